// A note-file converter for the tests: writes a one-article dictionary, and
// fails for a note file named "bad.not".
#include <cstring>
#include <fstream>

#ifdef _WIN32
#define KODRA_EXPORT __declspec(dllexport)
#else
#define KODRA_EXPORT __attribute__((visibility("default")))
#endif

extern "C" KODRA_EXPORT const char* Convert(const char* noteFile, const char* target) {
  const size_t length = std::strlen(noteFile);
  if (length >= 7 && std::strcmp(noteFile + length - 7, "bad.not") == 0) return "Unreadable note file";
  std::ofstream out(target, std::ios::binary);
  static const char16_t text[] = u"#amo\r\nlove\r\n";
  out.write(reinterpret_cast<const char*>(text), sizeof text - sizeof(char16_t));
  return "";
}
