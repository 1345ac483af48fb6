// The platform API: the component runtime, drawing, windows and the control framework, with the
// names and behaviour of the desktop platform the components are written against.
#pragma once

#include <kelmira/platform/types.h>
#include <kelmira/platform/unknwn.h>
#include <kelmira/platform/oleauto.h>
#include <kelmira/platform/com_ptr.h>
#include <kelmira/platform/com_object.h>
#include <kelmira/platform/guarded.h>
#include <kelmira/platform/typeinfo.h>
#include <kelmira/platform/objidl.h>
#include <kelmira/platform/combase.h>
#include <kelmira/platform/registry.h>
#include <kelmira/platform/registrar.h>
#include <kelmira/platform/wingdi.h>
#include <kelmira/platform/winuser.h>
#include <kelmira/platform/ocidl.h>
#include <kelmira/platform/connection_points.h>
#include <kelmira/platform/propmap.h>
#include <kelmira/platform/dispatch_impl.h>
#include <kelmira/platform/oleidl.h>
#include <kelmira/platform/control_base.h>
#include <kelmira/platform/atlhost.h>
#include <kelmira/platform/commctrl.h>
#include <kelmira/platform/commdlg.h>
