// plughost browse [FOLDER]: the interactive two-panel host on the terminal.
#include <filesystem>

#include "commands.h"

#if PLUGHOST_HAVE_CURSES
#include "tui/curses_terminal.h"
#include "tui/file_manager.h"
#include "tui/screen_ui.h"
#endif

namespace plughost {

int RunBrowse(Host& host, const std::vector<std::string>& args, std::ostream& /*out*/) {
    const std::string folder = args.empty() ? "." : args[0];
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        host.Log() << "plughost browse: no such folder: " << folder << "\n";
        return 2;
    }
#if PLUGHOST_HAVE_CURSES
    if (!tui::OnTerminal()) {
        host.Log() << "plughost browse: standard input and output must be a terminal\n";
        return 2;
    }
    int result = 0;
    {
        tui::CursesTerminal terminal;
        tui::Screen screen(terminal);
        tui::ScreenUi ui(screen);
        Ui& previous = host.ReplaceUi(ui);
        {
            tui::FileManager manager(host, screen, folder);
            manager.RestorePanels(!args.empty());
            result = manager.Run();
        }
        host.ReplaceUi(previous);
    }
    return result;
#else
    host.Log() << "plughost browse: this build has no terminal support\n";
    return 2;
#endif
}

}  // namespace plughost
