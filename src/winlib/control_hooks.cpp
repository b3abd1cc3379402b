// The hooks: each stores the event in the control and attaches the handler
// that raises it, when the notification needs one (attaching twice runs once).
#include "control_props.h"
#include "paint.h"

void SetOnClick(TControl* control, TOnEvent event) {
  // Raised by the standard-control handler the kind attached, or by Click.
  control->OnClick = event;
}

void SetOnMouseDown(TControl* control, TOnMouse event) {
  control->OnMouseDown = event;
  control->AddMessageHandler(MouseEventsHandler, false);
}

void SetOnMouseMove(TControl* control, TOnMouse event) {
  control->OnMouseMove = event;
  control->AddMessageHandler(MouseEventsHandler, false);
}

void SetOnMouseUp(TControl* control, TOnMouse event) {
  control->OnMouseUp = event;
  control->AddMessageHandler(MouseEventsHandler, false);
}

void SetOnMouseWheel(TControl* control, TOnMouse event) {
  control->OnMouseWheel = event;
  control->AddMessageHandler(MouseEventsHandler, false);
}

void SetOnMouseDblClk(TControl* control, TOnMouse event) {
  control->OnMouseDblClk = event;
  control->AddMessageHandler(MouseEventsHandler, false);
}

void SetOnKeyDown(TControl* control, TOnKey event) {
  control->OnKeyDown = event;
  control->KeyHook = KeyEventsHook;
}

void SetOnKeyUp(TControl* control, TOnKey event) {
  control->OnKeyUp = event;
  control->KeyHook = KeyEventsHook;
}

void SetOnChar(TControl* control, TOnChar event) {
  control->OnChar = event;
  control->KeyHook = KeyEventsHook;
}

void SetOnMouseEnter(TControl* control, TOnEvent event) {
  control->OnMouseEnter = event;
  control->AddMessageHandler(MouseEnterLeaveHandler, false);
}

void SetOnMouseLeave(TControl* control, TOnEvent event) {
  control->OnMouseLeave = event;
  control->AddMessageHandler(MouseEnterLeaveHandler, false);
}

void SetOnPaint(TControl* control, TOnPaint event) {
  control->OnPaint = event;
  control->AddMessageHandler(OnPaintHandler, false);
}

void SetOnResize(TControl* control, TOnEvent event) {
  control->OnResize = event;
  control->AddMessageHandler(ResizeHandler, false);
}

void SetOnShow(TControl* control, TOnEvent event) {
  control->OnShow = event;
  control->AddMessageHandler(ShowHideHandler, false);
}

void SetOnHide(TControl* control, TOnEvent event) {
  control->OnHide = event;
  control->AddMessageHandler(ShowHideHandler, false);
}

void SetOnMessage(TControl* control, TOnMessage event) {
  // Asked by the dispatcher itself, before the handlers.
  control->OnMessage = event;
}

void SetOnDestroy(TControl* control, TOnEvent event) {
  control->OnDestroy = event;
}

bool ShowHideHandler(TControl* control, MSG& msg, LRESULT&) {
  if (msg.message != WM_SHOWWINDOW) return false;
  // wParam: true when the window is being shown, false when hidden.
  if (msg.wParam) {
    control->OnShow(control);
  } else {
    control->OnHide(control);
  }
  return false;
}
