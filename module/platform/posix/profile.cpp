// GetPrivateProfileIntA: one integer from an INI file, read as Windows reads
// it. The first section of the given name is searched (a later section of the
// same name is not), and the first key of the given name in it.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#include "platform/posix/win32_subset.h"

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// A bare name (no directory part) lives in the Windows directory: WINDIR, or
// the current directory when that is unset.
std::string ResolvePath(const char *file_name) {
  const std::string_view name = file_name;
  if (name.find_first_of("/\\") != std::string_view::npos) return std::string(name);
  const char *directory = std::getenv("WINDIR");
  if (directory == nullptr || *directory == '\0') return std::string(name);
  std::string path = directory;
  if (path.back() != '/') path += '/';
  path += name;
  return path;
}

// The value of `key` in the first section named `section`; nothing when the
// file, the section or the key is missing.
std::optional<std::string> FindValue(const std::string &path, std::string_view section,
                                     std::string_view key) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::string line;
  bool first_line = true;
  bool in_section = false;
  bool section_seen = false;
  while (std::getline(file, line)) {
    std::string_view text = line;
    if (first_line && text.substr(0, kUtf8Mark.size()) == kUtf8Mark) text.remove_prefix(kUtf8Mark.size());
    first_line = false;
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    text = Trim(text);
    if (text.empty() || text.front() == ';') continue;
    if (text.front() == '[') {
      const size_t close = text.rfind(']');
      if (close == std::string_view::npos) continue;
      if (section_seen) return std::nullopt;
      in_section = SameName(Trim(text.substr(1, close - 1)), section);
      section_seen = in_section;
      continue;
    }
    if (!in_section) continue;
    const size_t equals = text.find('=');
    if (equals == std::string_view::npos || !SameName(Trim(text.substr(0, equals)), key)) continue;
    return std::string(Trim(text.substr(equals + 1)));
  }
  return std::nullopt;
}

// A value in matching quotes stands for the text between them.
std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

// Blanks, a sign, then decimal digits, or hexadecimal ones after 0x; stops at
// the first other character. Overflow wraps, as a 32-bit count does.
UINT ParseInteger(std::string_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  UINT base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') && DigitValue(text[2]) < 16) {
    base = 16;
    text.remove_prefix(2);
  }
  UINT value = 0;
  for (const char c : text) {
    const int digit = DigitValue(c);
    if (digit >= static_cast<int>(base)) break;
    value = value * base + static_cast<UINT>(digit);
  }
  return negative ? 0u - value : value;
}

}  // namespace

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, int default_value, LPCSTR file_name) {
  const auto fallback = static_cast<UINT>(default_value);
  if (section == nullptr || key == nullptr || file_name == nullptr || *file_name == '\0') return fallback;
  const std::optional<std::string> value = FindValue(ResolvePath(file_name), Trim(section), Trim(key));
  if (!value) return fallback;
  const std::string_view text = Unquote(*value);
  return text.empty() ? fallback : ParseInteger(text);
}
