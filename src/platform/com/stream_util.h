// Pieces shared by the stream implementations.
#pragma once

#include <kelmira/platform/objidl.h>

#include <string_view>

namespace kelmira::streams {

// New seek position from an origin's base and a signed move; STG_E_INVALIDFUNCTION for an unknown
// origin or a position before 0 (or past 2^63).
HRESULT ComputeSeek(std::uint64_t current, std::uint64_t end, LARGE_INTEGER move, DWORD origin, std::uint64_t* out);

// Copies up to cb bytes from src's position to dst's, in chunks, through Read and Write.
HRESULT CopyStream(IStream* src, IStream* dst, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead, ULARGE_INTEGER* pcbWritten);

// Fills a STATSTG for a stream; the name (if any, and unless STATFLAG_NONAME) in task memory.
HRESULT FillStreamStat(STATSTG* out, DWORD statFlag, std::u16string_view name, std::uint64_t size, DWORD mode);

}  // namespace kelmira::streams
