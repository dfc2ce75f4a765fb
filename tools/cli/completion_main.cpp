// Writes linkmate-cli's bash completion from the program's own table of commands and options and
// from the settings with their list texts, so that what the shell offers is what the program takes.
// Usage: linkmate-cli-completion OUTPUT
#include <fstream>
#include <iostream>
#include <string>

#include "protocol/settings_table.h"
#include "tools/cli/cli_table.h"

namespace {

using namespace linkmate;
using namespace linkmate::cli;

// A word list for a shell's double quotes.
std::string Quoted(const std::string& words) { return "\"" + words + "\""; }

// 'text' for a shell, a ' inside included.
std::string ShellQuoted(std::string_view text) {
    std::string out = "'";
    for (const char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string Join(std::string a, const std::string& b) { return a.empty() ? b : a + " " + b; }

struct Lists {
    std::string options, valued, commands, fileCommands, settings;
};

Lists CollectLists() {
    Lists l;
    for (const OptionSpec& o : OptionTable()) {
        std::string forms;
        if (o.shortName != 0) forms = Join(forms, std::string("-") + o.shortName);
        if (o.longName != nullptr) forms = Join(forms, std::string("--") + o.longName);
        l.options = Join(l.options, forms);
        if (o.value != nullptr) l.valued = Join(l.valued, forms);
    }
    for (const CommandSpec& c : CommandTable()) {
        if (l.commands.find(c.name) == std::string::npos) l.commands = Join(l.commands, c.name);
        if (c.completion == Completion::kFile) l.fileCommands = Join(l.fileCommands, c.name);
    }
    for (const Setting& s : ConverterSettings())
        l.settings = Join(l.settings, std::string(s.name) + "=");
    l.settings = Join(l.settings, "CanFilterMode=");
    return l;
}

// The values a shell offers after an option that takes one.
void WriteOptionValues(std::ostream& out) {
    out << "_linkmate_cli_option_values() {\n    case $1 in\n";
    for (const OptionSpec& o : OptionTable()) {
        if (o.value == nullptr) continue;
        std::string forms = o.longName != nullptr ? std::string("--") + o.longName : "";
        if (o.shortName != 0) forms = (forms.empty() ? "" : forms + "|") + "-" + o.shortName;
        out << "        " << forms << ") ";
        switch (o.completion) {
            case Completion::kWords:
                out << "COMPREPLY=($(compgen -W " << Quoted(o.words) << " -- \"$2\"))";
                break;
            case Completion::kDevice:
                // A serial device server's port is an address instead of a path.
                out << "_linkmate_cli_files \"${2:-/dev/tty}\"; "
                       "COMPREPLY+=($(compgen -W \"rfc2217:// socket://\" -- \"$2\"))";
                break;
            case Completion::kFile: out << "_linkmate_cli_files \"$2\""; break;
            default: out << "COMPREPLY=()"; break;
        }
        out << " ;;\n";
    }
    out << "    esac\n}\n\n";
}

// The texts of each list setting, one a line (a text may hold blanks).
void WriteSettingValues(std::ostream& out) {
    out << "_linkmate_cli_setting_values() {\n    case $1 in\n";
    for (const Setting& s : ConverterSettings()) {
        if (s.kind != SettingKind::kList) continue;
        out << "        " << s.name << (s.name == "CanFiterMode" ? "|CanFilterMode" : "")
            << ") printf '%s\\n'";
        for (const std::string_view entry : s.entries) out << " " << ShellQuoted(entry);
        out << " ;;\n";
    }
    out << "    esac\n}\n\n";
}

constexpr const char* kMain = R"sh(_linkmate_cli_files() {
    compopt -o filenames 2>/dev/null
    COMPREPLY=($(compgen -f -- "$1"))
}

_linkmate_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} key=""
    local @LISTS@
    # "KEY=VALUE" and "--option=VALUE" reach here split at the "=".
    if [[ $cur == "=" ]]; then
        key=$prev cur=""
    elif [[ $prev == "=" && COMP_CWORD -ge 2 ]]; then
        key=${COMP_WORDS[COMP_CWORD-2]}
    fi
    if [[ -z $key && " $valued " == *" $prev "* ]]; then
        _linkmate_cli_option_values "$prev" "$cur"
        return
    fi
    if [[ $key == -* ]]; then
        _linkmate_cli_option_values "$key" "$cur"
        return
    fi
    local i command=""
    for ((i = 1; i < COMP_CWORD; i++)); do
        local w=${COMP_WORDS[i]}
        if [[ " $valued " == *" $w "* ]]; then
            ((i++))
        elif [[ $w != -* && " $commands " == *" $w "* ]]; then
            command=$w
            break
        fi
    done
    if [[ -n $key ]]; then
        local IFS=$'\n'
        COMPREPLY=($(compgen -W "$(_linkmate_cli_setting_values "$key")" -- "$cur"))
        COMPREPLY=("${COMPREPLY[@]// /\\ }")
    elif [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    elif [[ -z $command ]]; then
        COMPREPLY=($(compgen -W "$commands" -- "$cur"))
    elif [[ " $file_commands " == *" $command "* ]]; then
        _linkmate_cli_files "$cur"
    elif [[ $command == set ]]; then
        compopt -o nospace 2>/dev/null
        COMPREPLY=($(compgen -W "$settings" -- "$cur"))
    elif [[ $command == help ]]; then
        COMPREPLY=($(compgen -W "$commands" -- "$cur"))
    fi
}
complete -F _linkmate_cli linkmate-cli
)sh";

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "Usage: linkmate-cli-completion OUTPUT\n";
        return 2;
    }
    std::ofstream out(argv[1]);
    const Lists l = CollectLists();
    out << "# bash completion for linkmate-cli, made by the build from the program's table of "
           "options\n\n";
    WriteOptionValues(out);
    WriteSettingValues(out);
    std::string main = kMain;
    const std::string lists = "options=" + Quoted(l.options) + " valued=" + Quoted(l.valued) +
                              " commands=" + Quoted(l.commands) +
                              " file_commands=" + Quoted(l.fileCommands) +
                              " settings=" + Quoted(l.settings);
    main.replace(main.find("@LISTS@"), 7, lists);
    out << main;
    out.close();
    return out ? 0 : 1;
}
