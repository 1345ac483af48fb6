// The table of drawing objects, lookups by kind, selection bookkeeping and DeleteObject.
#include "gdi/gdi_objects.h"

#include "gdi/gdi_error.h"
#include "gdi/handle_table.h"

#include <kelmira/platform/guarded.h>

namespace kelmira::gdi {
namespace {

HandleTable<GdiObject>& Objects() {
  static HandleTable<GdiObject> table;
  return table;
}

template <class T>
T* Payload(HGDIOBJ h, UINT type) {
  GdiObject* object = LookupObject(h, type);
  return object ? std::get_if<T>(&object->data) : nullptr;
}

// Takes the object out of the table when nothing holds it any more. Runs under the table lock;
// the caller destroys what it returns after unlocking.
std::unique_ptr<GdiObject> TakeIfUnused(std::uint32_t value, GdiObject& object) {
  if (!object.deletePending || object.selections > 0) return nullptr;
  return Objects().RemoveLocked(value);
}

}  // namespace

HGDIOBJ AddObject(GdiObject object) {
  return GuardedOr(HGDIOBJ{}, [&] {
    const UINT type = object.type;
    std::uint32_t value = Objects().Add(std::make_unique<GdiObject>(std::move(object)), type);
    if (!value) return Fail(ERROR_NOT_ENOUGH_MEMORY, HGDIOBJ{});
    return HandleFromValue<HGDIOBJ>(value);
  });
}

GdiObject* LookupObject(HGDIOBJ h, UINT type) {
  GdiObject* object = Objects().Find(HandleValue(h), type);
  if (!object) return Fail(ERROR_INVALID_HANDLE, static_cast<GdiObject*>(nullptr));
  return object;
}

PenObject* LookupPen(HGDIOBJ h) { return Payload<PenObject>(h, OBJ_PEN); }
BrushObject* LookupBrush(HGDIOBJ h) { return Payload<BrushObject>(h, OBJ_BRUSH); }
FontObject* LookupFont(HGDIOBJ h) { return Payload<FontObject>(h, OBJ_FONT); }
BitmapObject* LookupBitmap(HGDIOBJ h) { return Payload<BitmapObject>(h, OBJ_BITMAP); }

HFONT AddFontObject(const LOGFONTA& description) {
  GdiObject object;
  object.type = OBJ_FONT;
  object.data = FontObject{description, nullptr};
  return static_cast<HFONT>(AddObject(std::move(object)));
}

void RetainSelection(HGDIOBJ h) {
  std::lock_guard lock(Objects().Lock());
  GdiObject* object = Objects().FindLocked(HandleValue(h));
  if (object && !object->stock) ++object->selections;
}

bool ClaimBitmap(HBITMAP bitmap, HDC dc) {
  std::lock_guard lock(Objects().Lock());
  GdiObject* object = Objects().FindLocked(HandleValue(bitmap), OBJ_BITMAP);
  if (!object) return false;
  if (object->stock) return true;  // the stock bitmap may sit in any number of contexts
  auto& payload = std::get<BitmapObject>(object->data);
  if (payload.selectedInto && payload.selectedInto != dc) return false;
  payload.selectedInto = dc;
  ++object->selections;
  return true;
}

void ReleaseSelection(HGDIOBJ h) {
  std::unique_ptr<GdiObject> freed;
  {
    std::lock_guard lock(Objects().Lock());
    std::uint32_t value = HandleValue(h);
    GdiObject* object = Objects().FindLocked(value);
    if (!object || object->stock || object->selections == 0) return;
    if (--object->selections == 0) {
      if (auto* bitmap = std::get_if<BitmapObject>(&object->data)) bitmap->selectedInto = nullptr;
    }
    freed = TakeIfUnused(value, *object);
  }
}

}  // namespace kelmira::gdi

using namespace kelmira::gdi;

BOOL DeleteObject(HGDIOBJ ho) {
  std::unique_ptr<GdiObject> freed;
  std::lock_guard lock(Objects().Lock());
  std::uint32_t value = HandleValue(ho);
  GdiObject* object = Objects().FindLocked(value);
  if (!object || object->deletePending) return Fail(ERROR_INVALID_HANDLE, FALSE);
  if (object->stock) return TRUE;
  object->deletePending = true;
  freed = TakeIfUnused(value, *object);
  return TRUE;
}
