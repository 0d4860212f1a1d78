#pragma once

// The command-line conventions shared by rcp520-cli and rcp520-radio, on CLI11:
//   -h/--help     the help on stdout, "Usage: " first as help2man reads it, exit 0 (each
//                 subcommand has its own)
//   --version     "<program> <version>" on stdout, exit 0
//   an unknown option, a missing argument or a value that is not accepted: one line naming the
//   problem in Chinese, "用法：" and the usage line, and where to find help, on stderr, exit 2.
//
// Each program and subcommand is given its usage line by `usage`; the rest of its help is CLI11's.

#include <CLI/CLI.hpp>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "version.hpp"

namespace rcp::apps {

inline constexpr int kExitUsage = 2;

// CLI11's help with a hand-written usage line for each (sub)command given one, the usage first
// (as help2man and readers expect), and each subcommand listed with its usage line.
class UsageFormatter final : public CLI::Formatter {
 public:
  void setUsage(const CLI::App* app, std::string usage) { usages_[app] = std::move(usage); }

  std::string make_help(const CLI::App* app, std::string name,
                        CLI::AppFormatMode mode) const override {
    if (mode == CLI::AppFormatMode::Sub) return expanded(app, name, mode);
    std::string description = make_description(app);
    return make_usage(app, name) + (description.empty() ? "" : "\n" + description) +
           make_positionals(app) + make_groups(app, mode) + make_subcommands(app, mode) + "\n" +
           make_footer(app);
  }

  std::string make_subcommand(const CLI::App* sub) const override {
    const auto found = usages_.find(sub);
    if (found == usages_.end()) return CLI::Formatter::make_subcommand(sub);
    return "  " + sub->get_name() + " " + found->second + "\n      " + sub->get_description() +
           "\n";
  }

  // A command's help within --help-all: CLI11's, with the command's usage line under its name
  // and its footer (the example) after its options, indented as the rest.
  std::string expanded(const CLI::App* app, const std::string& name,
                       CLI::AppFormatMode mode) const {
    std::string text = CLI::Formatter::make_help(app, name, mode);
    const std::size_t firstLineEnd = text.find('\n');
    if (firstLineEnd == std::string::npos) return text;
    const std::string program = app->get_parent() ? app->get_parent()->get_name() + " " : "";
    text.insert(firstLineEnd + 1, "  Usage: " + usageOf(app, program + app->get_name()) + "\n");
    const std::string footer = app->get_footer();
    if (footer.empty()) return text;
    while (text.ends_with("\n\n")) text.pop_back();
    std::string indented = "  ";
    for (const char c : footer) indented += c == '\n' ? std::string("\n  ") : std::string(1, c);
    return text + indented + "\n";
  }

  // "NAME USAGE": the command's name and its usage line.
  std::string usageOf(const CLI::App* app, const std::string& name) const {
    const auto found = usages_.find(app);
    if (found == usages_.end()) return name + " [OPTIONS]";
    return name + (found->second.empty() ? "" : " " + found->second);
  }

  // The option's names without CLI11's default marks ("--backup,--no-backup", not
  // "--backup,--no-backup{false}").
  std::string make_option_name(const CLI::Option* option, bool positional) const override {
    std::string name = CLI::Formatter::make_option_name(option, positional);
    for (std::size_t open = name.find('{'); open != std::string::npos; open = name.find('{')) {
      const std::size_t close = name.find('}', open);
      name.erase(open, close == std::string::npos ? std::string::npos : close - open + 1);
    }
    return name;
  }

  std::string make_usage(const CLI::App* app, std::string name) const override {
    return "Usage: " + usageOf(app, name) + "\n";
  }

 private:
  std::map<const CLI::App*, std::string> usages_;
};

// A program's parser with the conventions above set up.
class CommandLine {
 public:
  CommandLine(std::string program, std::string description)
      : app_(std::move(description), program), formatter_(std::make_shared<UsageFormatter>()) {
    app_.formatter(formatter_);
    app_.set_version_flag("--version", program + " " + std::string(kVersion),
                          "Print the version and exit");
    app_.set_help_flag("-h,--help", "Print this help and exit");
    app_.failure_message([this](const CLI::App*, const CLI::Error& e) { return failure(e); });
  }

  CLI::App& app() { return app_; }

  // Sets the usage line of the program or of one of its subcommands ("FILE.ini" and the like; the
  // program's and subcommand's names come before it).
  void usage(const CLI::App& app, std::string text) { formatter_->setUsage(&app, std::move(text)); }

  // A subcommand with its own usage line and help; options after the subcommand that are the
  // program's own (such as --version) still reach the program.
  CLI::App* subcommand(const std::string& name, const std::string& description,
                       std::string usageText) {
    CLI::App* command = app_.add_subcommand(name, description);
    command->group("Commands");
    hasSubcommands_ = true;
    command->set_help_flag("-h,--help", "Print this help and exit");
    command->footer("");
    command->fallthrough();
    usage(*command, std::move(usageText));
    return command;
  }

  // Parses; an exit code when the program ends here (help, version or a usage error), nothing
  // when the command is to run.
  std::optional<int> parse(int argc, char** argv) {
    // Set here, once every subcommand is there, so that none of them inherits them: words nothing
    // takes are gathered rather than thrown at once, to be named in their order; --help-all.
    app_.allow_extras();
    if (hasSubcommands_)
      app_.set_help_all_flag("--help-all", "Print the help of every command and exit");
    try {
      app_.parse(argc, argv);
      const std::vector<std::string> extras = app_.remaining(true);
      if (!extras.empty()) {
        std::string words;
        for (const std::string& word : extras) words += (words.empty() ? "" : " ") + word;
        throw CLI::ExtrasError(
            "unexpected argument" + std::string(extras.size() > 1 ? "s" : "") + ": " + words,
            CLI::ExitCodes::ExtrasError);
      }
    } catch (const CLI::ParseError& e) {
      const int code = app_.exit(e, std::cout, std::cerr);
      return code == static_cast<int>(CLI::ExitCodes::Success) ? code : kExitUsage;
    }
    return std::nullopt;
  }

 private:
  // The (sub)command the words given had reached: its usage line is the hint.
  const CLI::App* reached() const {
    const CLI::App* app = &app_;
    while (!app->get_subcommands().empty()) app = app->get_subcommands().front();
    return app;
  }

  std::string commandName(const CLI::App* app) const {
    std::string name = app->get_name();
    for (const CLI::App* up = app->get_parent(); up != nullptr; up = up->get_parent())
      name = up->get_name() + " " + name;
    return name;
  }

  // The type name an option or argument of the (sub)command shows in its usage ("FILE.ini").
  static std::string shownName(const CLI::App& app, const std::string& name) {
    const CLI::Option* option = app.get_option_no_throw(name);
    if (!option) option = app.get_option_no_throw("--" + name);
    if (!option || option->get_type_name().empty()) return name;
    return option->get_type_name();
  }

  static std::string before(const std::string& text, const std::string& mark) {
    return text.substr(0, text.find(mark));
  }

  // The one line naming the problem, in the user's language: a word where a command was
  // expected, a missing argument or value, a word nothing takes, two options that exclude each
  // other, a value that is not accepted.
  std::string problem(const CLI::App& app, const CLI::Error& e) const {
    const std::vector<std::string> left = app.remaining();
    const std::string what = e.what();
    const std::string kind = e.get_name();
    if (!left.empty() && app.get_require_subcommand_min() > 0 && app.get_subcommands().empty() &&
        !left.front().starts_with("-"))
      return "没有这个命令：" + left.front();
    if (kind == "RequiredError" && app.get_require_subcommand_min() > 0 &&
        app.get_subcommands().empty())
      return "缺少命令";
    if (kind == "RequiredError" && what.ends_with(" is required"))
      return "缺少 " + shownName(app, before(what, " is required"));
    if (kind == "ArgumentMismatch" && what.find(": ") != std::string::npos) {
      const std::string option = before(what, ": ");
      return option + " 后面缺少 " + shownName(app, option);
    }
    if (kind == "ExtrasError") return "多余的参数：" + what.substr(what.find(": ") + 2);
    if (kind == "ExcludesError" && what.find(" excludes ") != std::string::npos)
      return before(what, " excludes ") + " 和 " + what.substr(what.find(" excludes ") + 10) +
             " 不能同时使用";
    return "参数有误：" + what;
  }
  std::string failure(const CLI::Error& e) const {
    const CLI::App* app = reached();
    const std::string name = commandName(app);
    return app_.get_name() + ": " + problem(*app, e) + "\n" + "用法：" +
           formatter_->usageOf(app, name) + "\n" + "详见“" + name + " --help”。\n";
  }

  CLI::App app_;
  std::shared_ptr<UsageFormatter> formatter_;
  bool hasSubcommands_ = false;
};

}  // namespace rcp::apps
