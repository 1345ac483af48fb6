#include "mouse/mouse_input_manager.h"
#include "common/stored_property.h"

#include "common/pixel_mapping.h"
#include "mouse/drag_report.h"

namespace kelmira::mouse {
namespace {

// The command in the system code page; a null string is the empty command.
std::string CommandText(BSTR command) {
  const UINT length = SysStringLen(command);
  if (!command || length == 0) return {};
  const int bytes = WideCharToMultiByte(CP_ACP, 0, command, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string text(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, command, static_cast<int>(length), text.data(), bytes, nullptr, nullptr);
  return text;
}

}  // namespace

HRESULT MouseInputManager::FinalConstruct() {
  return AddConnectionPoint(DIID__IMouseInputManagerEvents, SinkKind::Dispatch);
}

MouseInputManager::~MouseInputManager() { EndDragSilently(); }

HRESULT MouseInputManager::get_DragColor(OLE_COLOR* pVal) { return common::GetStored(dragColor_, pVal); }

HRESULT MouseInputManager::put_DragColor(OLE_COLOR newVal) { return common::PutStored(dragColor_, newVal); }

HRESULT MouseInputManager::get_FillColor(OLE_COLOR* pVal) { return common::GetStored(fillColor_, pVal); }

HRESULT MouseInputManager::put_FillColor(OLE_COLOR newVal) { return common::PutStored(fillColor_, newVal); }

HRESULT MouseInputManager::get_Fill(VARIANT_BOOL* pVal) { return common::GetStored(fill_, pVal); }

HRESULT MouseInputManager::put_Fill(VARIANT_BOOL newVal) { return common::PutStored(fill_, newVal); }

HRESULT MouseInputManager::Arm(Tool tool, BSTR command) {
  std::string text;
  // Before any change, so that running out of memory changes nothing.
  const HRESULT hr = Guarded([&] { text = CommandText(command); });
  if (FAILED(hr)) return hr;
  const bool wasDragging = state_ == DragState::Dragging;
  if (wasDragging) EndDragSilently();
  if (wasDragging || state_ == DragState::Armed) ClearDragRecord();
  drag_.tool = tool;
  state_ = DragState::Armed;
  drag_.command = std::move(text);
  return S_OK;
}

void MouseInputManager::ClearDragRecord() {
  state_ = DragState::Idle;
  drag_.command.clear();
  dragColor_ = 0;
  fillColor_ = 0;
  fill_ = VARIANT_FALSE;
}

// Removes the band and gives the mouse back without finishing: nothing is repainted or reported.
void MouseInputManager::EndDragSilently() {
  if (state_ != DragState::Dragging) return;
  DrawBand();
  ReleaseMouse();
  if (cursorHidden_) {
    ShowCursor(TRUE);
    cursorHidden_ = false;
  }
  bandBrush_.Reset();
  bandPen_.Reset();
  state_ = DragState::Idle;
}

void MouseInputManager::DetachContainer() {
  if (state_ == DragState::Dragging) {
    EndDragSilently();
    ClearDragRecord();
  }
  owner_ = nullptr;
}

HWND MouseInputManager::Window() const {
  if (!owner_) return nullptr;
  HWND hwnd = owner_->LinkWindow();
  return hwnd && IsWindow(hwnd) ? hwnd : nullptr;
}

bool MouseInputManager::ClientToLogical(POINT client, double& x, double& y) const {
  HWND hwnd = Window();
  RECT rect{};
  if (!hwnd || !GetClientRect(hwnd, &rect)) return false;
  double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
  owner_->LinkLimits(xMin, xMax, yMin, yMax);
  const common::PixelMapping mapping = common::PixelMapping::Of(rect, xMin, xMax, yMin, yMax);
  x = mapping.LogicalX(client.x);
  y = mapping.LogicalY(client.y);
  return true;
}

void MouseInputManager::BeginDrag(POINT client) {
  drag_.start = client;
  drag_.current = client;
  ClientToLogical(client, drag_.logicalStartX, drag_.logicalStartY);
  state_ = DragState::Dragging;
  if (HWND hwnd = Window()) {
    SetCapture(hwnd);
    RECT clip{};
    GetClientRect(hwnd, &clip);
    POINT topLeft{clip.left, clip.top};
    POINT bottomRight{clip.right, clip.bottom};
    ClientToScreen(hwnd, &topLeft);
    ClientToScreen(hwnd, &bottomRight);
    clip = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    ClipCursor(&clip);
  }
  bandBrush_.Reset(fill_ ? CreateHatchBrush(HS_DIAGCROSS, fillColor_) : nullptr);
  bandPen_.Reset(CreatePen(PS_SOLID, 0, dragColor_));
  DrawBand();
  if (!cursorHidden_) {
    ShowCursor(FALSE);
    cursorHidden_ = true;
  }
}

void MouseInputManager::MoveDrag(POINT client) {
  DrawBand();
  drag_.current = client;
  ClientToLogical(client, drag_.logicalEndX, drag_.logicalEndY);
  DrawBand();
}

void MouseInputManager::FinishDrag(POINT client) {
  drag_.current = client;
  ClientToLogical(client, drag_.logicalEndX, drag_.logicalEndY);
  state_ = DragState::Idle;
  DrawBand();
  ReleaseMouse();
  // The paint this sends finds the state idle, so it draws no band over the fresh picture.
  if (HWND hwnd = Window()) RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  if (cursorHidden_) {
    ShowCursor(TRUE);
    cursorHidden_ = false;
  }
  bandBrush_.Reset();
  bandPen_.Reset();
  DragRecord finished = std::move(drag_);
  ClearDragRecord();
  Report(finished);
}

void MouseInputManager::ReleaseMouse() {
  HWND hwnd = Window();
  if (hwnd && GetCapture() == hwnd) ReleaseCapture();
  ClipCursor(nullptr);
}

void MouseInputManager::DrawBand() {
  HWND hwnd = Window();
  const common::WindowDc dc(hwnd);
  if (!dc.get()) return;
  RECT client{};
  GetClientRect(hwnd, &client);
  const int oldMix = SetROP2(dc.get(), R2_NOTXORPEN);
  {
    const bool hatched = fill_ && bandBrush_;
    const common::ScopedSelect brush(dc.get(), hatched ? bandBrush_.get() : GetStockObject(NULL_BRUSH));
    const common::ScopedSelect pen(dc.get(), bandPen_.get());
    DrawBandShape(dc.get(), drag_.tool, drag_.start, drag_.current, client);
  }
  SetROP2(dc.get(), oldMix);
}

void MouseInputManager::RedrawBandIfDragging() {
  if (state_ == DragState::Dragging) DrawBand();
}

// The last step of a finished drag: the manager may be used (even released) by what it calls.
void MouseInputManager::Report(const DragRecord& finished) {
  HWND hwnd = Window();
  if (!hwnd) return;
  if (!finished.command.empty()) {
    const std::string text = FormatDragReport(finished.command, finished.logicalStartX, finished.logicalStartY,
                                              finished.logicalEndX, finished.logicalEndY);
    MessageBoxA(hwnd, text.c_str(), kDragReportCaption, MB_ICONHAND);
    return;
  }
  if (!autoZoom_) return;
  POINT start = finished.start;
  POINT end = finished.current;
  ClientToScreen(hwnd, &start);
  ClientToScreen(hwnd, &end);
  owner_->ZoomToRectangle(start.x, start.y, end.x, end.y);
}

HRESULT CreateOwnedMouseInputManager(ContainerLink* owner, ComPtr<IMouseInputManager>* manager,
                                     MouseRouting** routing) {
  if (!manager || !routing) return E_POINTER;
  *routing = nullptr;
  Object<MouseInputManager>* object = nullptr;
  const HRESULT hr = Object<MouseInputManager>::Make(&object);
  if (FAILED(hr)) return hr;
  object->AttachContainer(owner);
  object->SetAutoZoom(1);
  *manager = ComPtr<IMouseInputManager>::Attach(object);
  *routing = object;
  return S_OK;
}

}  // namespace kelmira::mouse
