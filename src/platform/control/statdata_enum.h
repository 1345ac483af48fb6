// An enumerator over a snapshot of advise connections, shared by the advise holders.
#pragma once

#include <kelmira/platform/com_object.h>
#include <kelmira/platform/oleidl.h>

#include <vector>

namespace kelmira {

// One connection as a holder keeps it: the sink is referenced, the target device is a copy of
// its bytes (format.ptd stays null so that copies of a connection never share storage).
struct AdviseConnection {
  DWORD cookie = 0;
  FORMATETC format{};
  std::vector<BYTE> targetDevice;
  DWORD advf = 0;
  ComPtr<IAdviseSink> sink;

  // The format with ptd pointing at this connection's copy of the target device.
  FORMATETC Format() const {
    FORMATETC f = format;
    f.ptd = targetDevice.empty() ? nullptr : reinterpret_cast<DVTARGETDEVICE*>(const_cast<BYTE*>(targetDevice.data()));
    return f;
  }
};

// Copies a FORMATETC with its target device into the connection.
void AssignFormat(AdviseConnection& connection, const FORMATETC& format);

// Makes an IEnumSTATDATA over copies of the connections.
HRESULT MakeStatDataEnum(const std::vector<AdviseConnection>& connections, IEnumSTATDATA** out);

}  // namespace kelmira
