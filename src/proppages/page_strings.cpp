#include "proppages/page_strings.h"

namespace kelmira::proppages {

const char* LoadModuleString(UINT id) {
  switch (id) {
    case kPageTitleString: return "Line graph";
    case kPageHelpFileString: return "Help File Name";
    case kPageDocString: return "Your Help String";
    default: return nullptr;
  }
}

}  // namespace kelmira::proppages
