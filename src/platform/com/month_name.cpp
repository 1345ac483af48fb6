// VarMonthName: month names from the process's LC_TIME locale.
#include "com/codepage.h"

#include <kelmira/platform/guarded.h>

#include <clocale>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <optional>
#include <string>

namespace {

// A locale object for the current LC_TIME setting, freed on scope exit.
class TimeLocale {
 public:
  TimeLocale() {
    const char* name = std::setlocale(LC_TIME, nullptr);
    // The character set of the names is that of the LC_TIME locale, so ask its LC_CTYPE too.
    if (name) locale_ = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, name, static_cast<locale_t>(nullptr));
    if (!locale_) locale_ = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, "C", static_cast<locale_t>(nullptr));
  }
  ~TimeLocale() {
    if (locale_) freelocale(locale_);
  }
  TimeLocale(const TimeLocale&) = delete;
  TimeLocale& operator=(const TimeLocale&) = delete;

  locale_t get() const { return locale_; }

 private:
  locale_t locale_ = static_cast<locale_t>(nullptr);
};

nl_item MonthItem(int month, bool abbreviated) {
  // The stand-alone forms are the nominative names where a language distinguishes them.
#ifdef ALTMON_1
  return static_cast<nl_item>((abbreviated ? _NL_ABALTMON_1 : ALTMON_1) + (month - 1));
#else
  return static_cast<nl_item>((abbreviated ? ABMON_1 : MON_1) + (month - 1));
#endif
}

// Text in the given character set as UTF-8; nullopt when it cannot be converted.
std::optional<std::string> ToUtf8(const std::string& text, const char* charset) {
  if (!std::strcmp(charset, "UTF-8") || !std::strcmp(charset, "ANSI_X3.4-1968")) return text;
  iconv_t cd = iconv_open("UTF-8", charset);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out(text.size() * 4 + 4, '\0');
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  char* outPtr = out.data();
  std::size_t outLeft = out.size();
  const std::size_t done = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (done == static_cast<std::size_t>(-1)) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

HRESULT MonthName(int month, bool abbreviated, BSTR* out) {
  const TimeLocale locale;
  if (!locale.get()) return E_FAIL;
  const char* name = nl_langinfo_l(MonthItem(month, abbreviated), locale.get());
  if (!name || !*name) return E_FAIL;
  const auto utf8 = ToUtf8(name, nl_langinfo_l(CODESET, locale.get()));
  if (!utf8) return E_FAIL;
  const std::u16string text = kelmira::codepage::Utf8ToUtf16(*utf8);
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

HRESULT VarMonthName(int iMonth, int fAbbrev, ULONG dwFlags, BSTR* pbstrOut) {
  if (!pbstrOut) return E_POINTER;
  *pbstrOut = nullptr;
  if (iMonth < 1 || iMonth > 12 || dwFlags != 0) return E_INVALIDARG;
  return kelmira::Guarded([&] { return MonthName(iMonth, fAbbrev != 0, pbstrOut); });
}
