// placeholder, filled in by its owner
#pragma once
#include <kelmira/platform/oleauto.h>
