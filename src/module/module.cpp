#include <kelmira/kelmira.h>
