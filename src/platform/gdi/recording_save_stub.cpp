// Placeholder until the vector writer lands: recordings cannot be saved yet.
#include <kelmira/platform/wingdi.h>

HRESULT KelmiraSaveRecording(HDC, const char*, const char*, double, double) { return E_NOTIMPL; }
