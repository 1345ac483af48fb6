#include "common/ansi_text.h"

namespace kelmira::common {

std::string AnsiText(BSTR text) {
  const UINT length = SysStringLen(text);
  if (!text || length == 0) return {};
  const int bytes = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), out.data(), bytes, nullptr, nullptr);
  return out;
}

BSTR AnsiToBstr(const std::string& text) {
  const int chars =
      text.empty() ? 0 : MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  BSTR out = SysAllocStringLen(nullptr, static_cast<UINT>(chars > 0 ? chars : 0));
  if (out && chars > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out, chars);
  return out;
}

}  // namespace kelmira::common
