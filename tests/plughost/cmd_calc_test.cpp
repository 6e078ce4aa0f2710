// End to end: plughost loads the built calculator plugin (calculator.so /
// calculator.dll) and drives its real dialog with the calc command.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "plughost/commands.h"
#include "plughost/host.h"
#include "plughost/scripted_ui.h"

namespace {

// The separator of the user's locale, which the plugin read when it was
// loaded; the texts below are written with "." and localized with this.
std::string Localized(std::string text) {
    const char separator = platform::os().DecimalSeparator();
    for (char& c : text)
        if (c == '.') c = separator;
    return text;
}

std::string Shown(const std::string& expression, const std::string& dec, const std::string& hex,
                  const std::string& oct, const std::string& bin) {
    return "expression\t" + expression + "\ndec\t" + dec + "\nhex\t" + hex + "\noct\t" + oct + "\nbin\t" + bin + "\n";
}

class CalcCommandTest : public ::testing::Test {
protected:
    CalcCommandTest() : ui(log), host(ui, log) {}
    void SetUp() override {
        ASSERT_GE(host.LoadPlugins(PLUGHOST_TEST_PLUGINS_DIR), 1) << log.str();
        calculator = host.FindPlugin("calculator");
        ASSERT_NE(calculator, nullptr) << log.str();
    }

    int Calc(std::vector<std::string> args) {
        for (std::string& arg : args) arg = Localized(arg);
        out.str("");
        return plughost::RunCalc(host, args, out);
    }

    std::ostringstream log;
    std::ostringstream out;
    plughost::ScriptedUi ui;
    plughost::Host host;
    plughost::Plugin* calculator = nullptr;
};

TEST_F(CalcCommandTest, PluginsMenuEntryAndLanguageFile) {
    const plughost::PluginMenus menus = calculator->GetMenus();
    EXPECT_EQ(menus.pluginsMenu, (std::vector<std::string>{"Calculato&r"}));
    EXPECT_TRUE(menus.configMenu.empty());
    EXPECT_STREQ(calculator->Message(0), "OK");
}

TEST_F(CalcCommandTest, StepsDriveTheDialog) {
    struct Case {
        std::vector<std::string> args;
        std::string shown;
    };
    const std::vector<Case> cases = {
        {{}, ""},
        {{"--run"}, Shown("0", "0", "00", "00", "00")},
        {{"--expr", "10/4", "--run"}, Shown("10/4", "2.5", "02", "02", "10")},
        {{"--expr", "1/3", "--evaluate"}, Shown("0.333333333333333", "0.333333333333333", "00", "00", "00")},
        {{"--radix", "oct", "--expr", "8", "--evaluate"}, Shown("10o", "8", "08", "10", "1000")},
        {{"--radix", "hex", "--expr", "250+5", "--evaluate", "--run"},
         Shown("FFh", "255", "FF", "377", "11111111") + Shown("FFh", "255", "FF", "377", "11111111")},
        {{"--expr", "2000000000", "--run"}, Shown("2000000000", "2000000000", "Owerflow", "Owerflow", "Owerflow")},
        {{"--expr", "1073741823", "--run"},
         Shown("1073741823", "1073741823", "3FFFFFFF", "7777777777", std::string(30, '1'))},
        {{"--expr", "2*(3", "--evaluate"}, Shown("2*(3", "Error", "Error", "Error", "Error")},
        {{"--radix", "hex", "--expr", "2000000000", "--evaluate"},
         Shown("2000000000", "2000000000", "Owerflow", "Owerflow", "Owerflow")},
        {{"--expr", "-255", "--run"}, Shown("-255", "-255", "-FF", "-377", "-11111111")},
        {{"--radix", "hex", "--expr", "0-5", "--evaluate", "--run"},
         Shown("-05h", "-5", "-05", "-05", "-101") + Shown("-05h", "-5", "-05", "-05", "-101")},
        {{"--expr", "(0.00001)*2", "--run", "--expr", "SIN(0.00001)", "--run"},
         Shown("(0.00001)*2", "2E-5", "00", "00", "00") +
             Shown("SIN(0.00001)", "9.99999999983333E-6", "00", "00", "00")},
        {{"--radix", "bin", "--expr", "6", "--evaluate", "--radix", "dec", "--run"},
         Shown("110b", "6", "06", "06", "110") + Shown("110b", "6", "06", "06", "110")},
        {{"--expr", "2^0.5", "--run", "--expr", "1/0", "--run"},
         Shown("2^0.5", "1.4142135623731", "01", "01", "01") + Shown("1/0", "Error", "Error", "Error", "Error")},
    };
    for (const Case& c : cases) {
        std::string words;
        for (const std::string& a : c.args) words += a + " ";
        SCOPED_TRACE(words);
        EXPECT_EQ(Calc(c.args), 0) << log.str();
        EXPECT_EQ(out.str(), Localized(c.shown));
    }
}

TEST_F(CalcCommandTest, ExpressionsLongerThan255CharactersShowError) {
    std::string text = "1";
    while (text.size() < 257) text += "+1";
    EXPECT_EQ(Calc({"--expr", text, "--run"}), 0);
    EXPECT_EQ(out.str(), Shown(text, "Error", "Error", "Error", "Error"));
    text.resize(255);
    EXPECT_EQ(Calc({"--expr", text, "--run"}), 0);
    EXPECT_EQ(out.str(), Shown(text, "128", "80", "200", "10000000"));
}

TEST_F(CalcCommandTest, BadStepsAreUsageErrors) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--radix"}, {"--radix", "dez"}, {"--expr"}, {"--jump"}, {"--expr", std::string(512, '1')}}) {
        log.str("");
        EXPECT_EQ(Calc(args), 2) << args[0];
        EXPECT_NE(log.str().find("plughost: calc: "), std::string::npos);
        EXPECT_TRUE(out.str().empty());
    }
}

TEST(CalcCommand, WithoutTheCalculatorItFails) {
    std::ostringstream log, out;
    plughost::ScriptedUi ui(log);
    plughost::Host host(ui, log);
    EXPECT_EQ(plughost::RunCalc(host, {"--run"}, out), 1);
    EXPECT_NE(log.str().find("calculator plugin is not loaded"), std::string::npos);
}

#if defined(__i386__) || defined(__x86_64__)
unsigned short X87ControlWord() {
    unsigned short word = 0;
    __asm__ volatile("fnstcw %0" : "=m"(word));
    return word;
}

TEST_F(CalcCommandTest, LeavesTheFloatingPointControlWordAlone) {
    const unsigned short before = X87ControlWord();
    EXPECT_EQ(Calc({"--expr", "1/0", "--run", "--expr", "10^400", "--run", "--expr", "SQRT(0-1)", "--run"}), 0);
    EXPECT_EQ(X87ControlWord(), before);
}
#endif

}  // namespace
