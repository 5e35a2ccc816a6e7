#include "app/command_line.h"

#include "version_line.h"

#include <cstdio>
#include <string_view>

namespace vantrel {

namespace {

constexpr int usageError = 2;

// An argument shown in the error line, with control characters made visible
// so that the line stays one line.
std::string printable(std::string_view argument)
{
    std::string shown;
    for (const char c : argument) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            shown += escaped;
        } else {
            shown += c;
        }
    }
    return shown;
}

// Reports a failed write (a closed or full standard output) as a failure.
int printed(TextSink &out, const std::string &text) { return out.write(text) ? 0 : 1; }

} // namespace

std::string versionLine() { return generated::versionLine; }

std::string helpText()
{
    return "Usage: vantrel [--help | --version | --press KEY]\n"
           "\n"
           "Vantrel binds the function keys F6 to F12 to files. It waits in the system\n"
           "tray, watches the seven keys whatever program has the focus, and opens the\n"
           "file bound to a key the way the desktop would. The bindings are edited in\n"
           "its configuration window: click the tray icon. One Vantrel runs in a\n"
           "session: started again, it shows the configuration window of the one that\n"
           "runs.\n"
           "\n"
           "  --press KEY  hand one press of KEY (F6 to F12, in any letter case) to the\n"
           "               Vantrel running in this session, which opens the file bound\n"
           "               to it. Where Vantrel can't watch the keys itself (on many\n"
           "               Wayland desktops), bind this command to the key in the\n"
           "               desktop's keyboard shortcuts.\n"
           "\n" +
           std::string(generated::settingsPlace);
}

Command readCommandLine(std::span<const char *const> arguments, TextSink &out, TextSink &err)
{
    if (arguments.size() <= 1)
        return StartProgram{};
    const std::string_view first = arguments[1];
    const bool wantsHelp = first == "--help" || first == "-h";
    const bool wantsVersion = first == "--version";
    const bool wantsPress = first == "--press";
    if (arguments.size() == 2 && wantsHelp)
        return ExitWith{printed(out, helpText())};
    if (arguments.size() == 2 && wantsVersion)
        return ExitWith{printed(out, versionLine() + '\n')};
    if (wantsPress && arguments.size() == 2) {
        err.write("vantrel: --press needs a key, F6 to F12\n");
        return ExitWith{usageError};
    }
    if (wantsPress && arguments.size() == 3) {
        const std::string_view name = arguments[2];
        if (const auto key = platform::functionKeyNamed(name))
            return HandOverPress{*key};
        // Anything longer than "F12" is no key, and is not repeated back.
        if (name.size() > 3)
            err.write("vantrel: --press takes a key from F6 to F12, not a text of " + std::to_string(name.size()) +
                      " bytes\n");
        else
            err.write("vantrel: --press takes a key from F6 to F12, not \"" + printable(name) + "\"\n");
        return ExitWith{usageError};
    }

    // The first argument that has no place here: an unknown one, or anything
    // after --help, --version or --press KEY.
    const std::string_view unexpected = wantsPress ? arguments[3] : wantsHelp || wantsVersion ? arguments[2] : first;
    err.write("vantrel: unexpected argument \"" + printable(unexpected) +
              "\" (vantrel takes only --help, --version or --press KEY)\n");
    return ExitWith{usageError};
}

} // namespace vantrel
