// The class identifier at the head of a persisted stream, and the class of a storage. In a
// stream it is 16 bytes: Data1, Data2, Data3 little-endian, then Data4.
#include <kelmira/platform/combase.h>
#include <kelmira/platform/objidl.h>

HRESULT WriteClassStm(IStream* pStm, REFCLSID rclsid) {
  if (!pStm) return E_INVALIDARG;
  BYTE bytes[16];
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<BYTE>(rclsid.Data1 >> (8 * i));
  for (int i = 0; i < 2; ++i) bytes[4 + i] = static_cast<BYTE>(rclsid.Data2 >> (8 * i));
  for (int i = 0; i < 2; ++i) bytes[6 + i] = static_cast<BYTE>(rclsid.Data3 >> (8 * i));
  std::memcpy(bytes + 8, rclsid.Data4, 8);
  ULONG written = 0;
  HRESULT hr = pStm->Write(bytes, sizeof bytes, &written);
  if (FAILED(hr)) return hr;
  return written == sizeof bytes ? S_OK : STG_E_MEDIUMFULL;
}

HRESULT ReadClassStm(IStream* pStm, CLSID* pclsid) {
  if (!pStm || !pclsid) return E_INVALIDARG;
  BYTE bytes[16];
  ULONG got = 0;
  HRESULT hr = pStm->Read(bytes, sizeof bytes, &got);
  if (FAILED(hr)) return hr;
  if (got != sizeof bytes) return STG_E_READFAULT;
  CLSID c{};
  for (int i = 0; i < 4; ++i) c.Data1 |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
  c.Data2 = static_cast<std::uint16_t>(bytes[4] | (bytes[5] << 8));
  c.Data3 = static_cast<std::uint16_t>(bytes[6] | (bytes[7] << 8));
  std::memcpy(c.Data4, bytes + 8, 8);
  *pclsid = c;
  return S_OK;
}

HRESULT ReadClassStg(IStorage* pStg, CLSID* pclsid) {
  if (!pStg || !pclsid) return E_INVALIDARG;
  STATSTG st{};
  HRESULT hr = pStg->Stat(&st, STATFLAG_NONAME);
  if (FAILED(hr)) return hr;
  CoTaskMemFree(st.pwcsName);
  *pclsid = st.clsid;
  return S_OK;
}

HRESULT WriteClassStg(IStorage* pStg, REFCLSID rclsid) {
  if (!pStg) return E_INVALIDARG;
  return pStg->SetClass(rclsid);
}
