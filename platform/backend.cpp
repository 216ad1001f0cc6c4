#include "platform/backend.h"

#include <iostream>

namespace tav {

void ScriptedBackend::choose(const std::string& path) {
  FileChoice c;
  const size_t slash = path.find_last_of('/');
  c.folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  c.name = slash == std::string::npos ? path : path.substr(slash + 1);
  answers.push_back(c);
}

void ScriptedBackend::cancel() { answers.push_back(std::nullopt); }

std::optional<FileChoice> ScriptedBackend::next(const std::string& title) {
  titles.push_back(title);
  if (answers.empty()) return std::nullopt;
  std::optional<FileChoice> c = answers.front();
  answers.pop_front();
  return c;
}

std::optional<FileChoice> ScriptedBackend::open_file(const std::string&, const std::string& title) {
  return next(title);
}
std::optional<FileChoice> ScriptedBackend::save_file(const std::string&, const std::string& title) {
  return next(title);
}

void ScriptedBackend::message(const std::string& text) {
  messages.push_back(text);
  if (echo_to_stderr) std::cerr << text << "\n";
}

void ScriptedBackend::error_dialog(const std::string& text) {
  errors.push_back(text);
  if (echo_to_stderr) std::cerr << "error: " << text << "\n";
}

void ScriptedBackend::notice(const std::string& text) {
  notices.push_back(text);
  if (echo_to_stderr) std::cerr << text << "\n";
}

void ScriptedBackend::to_clipboard(const std::string& svg, const std::vector<std::uint8_t>& png) {
  ++clipboard_writes;
  clipboard_svg = svg;
  clipboard_png = png;
}

}  // namespace tav
