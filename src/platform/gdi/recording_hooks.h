// What the drawing calls tell a recording, and the replay of records onto a surface.
//
// The drawing calls test `dc.recording` (one pointer) and call these only when it is set, so
// ordinary device contexts pay nothing. A record that cannot be kept for want of memory marks
// the recording incomplete instead of failing the drawing call.
#pragma once

#include "gdi/device_context.h"
#include "gdi/recording.h"

#include <memory>
#include <span>

namespace kelmira::gdi {

// True when the record paints every pixel of the recording's bitmap whatever was there.
bool CoversAll(const Recording& recording, const Record& record);
// Adds a record (dropping the ones a full opaque cover hides); nothing for an empty clip.
void AppendRecord(Recording& recording, Record record);

void RecordStroke(Recording& recording, const RECT& clip, std::span<const Point64> points, const Stroke& stroke,
                  int patternStart, int patternEnd);
void RecordShape(Recording& recording, const RECT& clip, ShapeRecord::Kind kind, const Rect64& bounds,
                 const Stroke& stroke, const Fill& fill);
void RecordFill(Recording& recording, const RECT& clip, const Rect64& rect, const Fill& fill);
void RecordQuad(Recording& recording, const RECT& clip, const DeviceQuad& quad, COLORREF color);
void RecordText(Recording& recording, const RECT& clip, const std::shared_ptr<const FontInstance>& font,
                const TextRun& run, const RunTransform& toDevice, COLORREF textColor, COLORREF bkColor);
// A blit whose source is not spliced (the image already taken), or a PatBlt.
void RecordBlit(Recording& recording, const RECT& clip, BlitRecord blit);

// The records of `source` moved by `offset` and clipped to `area` (device rectangle of the
// destination), preceded by the source's background where its records do not start with a full
// cover. Painted onto `surface` when it is not null; appended to `into` when it is not null.
void SpliceRecording(const Recording& source, Point64 offset, const RECT& area, const Surface* surface,
                     Recording* into);

// Replay of one record (already moved and clipped) onto a surface.
void PaintRecord(const Surface& surface, const Record& record);

// Defined beside the raster code they call.
void PaintRun(const Surface& surface, const FontInstance& font, const TextRun& run, const RunTransform& toDevice,
              COLORREF textColor, COLORREF bkColor, const RECT& clip);
void PaintBlitRecord(const Surface& surface, const RECT& clip, const BlitRecord& blit);

}  // namespace kelmira::gdi
