// Times the calculator on long expressions (up to 255 characters) that are
// costly for a group-by-group evaluator: deep nesting, many groups, long
// chains of tiny intermediates. Prints each expression's time and result.
//
//   calc_bench [ROUNDS]   (default 20 rounds of each expression)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "calculator/decimal_text.h"
#include "calculator/str2math.h"

namespace {

std::vector<std::pair<const char*, std::string>> Expressions() {
    std::vector<std::pair<const char*, std::string>> list;
    std::string powers = "0.1^300";
    while (powers.size() < 220) powers += "^1";
    list.emplace_back("tiny power chain, then groups", powers + "+" + std::string(15, '(') + "1" + std::string(15, ')'));
    std::string nested = std::string(40, '(') + "1E-300";
    for (int i = 0; i < 40; ++i) nested += "*0.5)";
    list.emplace_back("40 nested groups of tiny products", nested);
    std::string sums;
    for (int i = 0; sums.size() < 240; ++i) sums += "(1E-" + std::to_string(200 + i) + "/3)+";
    list.emplace_back("many groups of tiny quotients", sums + "1");
    std::string deep = std::string(126, '(') + "2" + std::string(126, ')');
    list.emplace_back("126 nested parentheses", deep);
    std::string mixed;
    while (mixed.size() < 230) mixed += "SIN(1E-9^2)*";
    list.emplace_back("functions of tiny groups", mixed + "1");
    for (auto& entry : list) entry.second.resize(std::min<size_t>(entry.second.size(), calc::kMaxExpressionLength));
    return list;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    double worst = 0;
    for (const auto& [name, text] : Expressions()) {
        std::optional<double> value;
        const auto start = std::chrono::steady_clock::now();
        const uint64_t steps = calc::FlatEvaluationCount();
        for (int i = 0; i < rounds; ++i) value = calc::EvaluateExpression(text, '.');
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / rounds;
        worst = std::max(worst, seconds);
        std::printf("%-36s %3zu chars  %9.3f ms  %6llu flat evaluations  %s\n", name, text.size(), seconds * 1e3,
                    static_cast<unsigned long long>((calc::FlatEvaluationCount() - steps) / rounds),
                    value ? calc::FormatDecimal(*value, '.').c_str() : "Error");
    }
    std::printf("slowest: %.3f ms per evaluation\n", worst * 1e3);
    return 0;
}
