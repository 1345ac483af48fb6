// A ready-made label list for the axes' TickLabels property.
//
// An axis asks the object given to TickLabels for three things: LabelCount, HasLabel(i) and
// LabelAt(i). This list keeps one VARIANT per entry; an entry holds a label when its value is not
// VT_EMPTY. The axes convert a value to text with VariantChangeType, so numbers and dates work as
// well as strings.
//
//   kelmira::ComPtr<ITickLabelList> labels;
//   KelmiraCreateTickLabelList(&labels);          // or: auto labels = kelmira::NewTickLabelList();
//   labels->AddLabel(kelmira::Variant(...), &index);
//   axis->put_TickLabels(labels.get());
//
// Indices are VARIANTs converted to 32-bit integers (a failed conversion is returned as its
// HRESULT). An index outside 0 .. LabelCount - 1 gives E_INVALIDARG, except: SetLabel and
// SetLabelCount grow the list (new entries are empty), InsertLabel takes 0 .. LabelCount, and
// HasLabel answers FALSE. A list holds at most 16,777,216 entries: an index or count beyond that
// gives E_INVALIDARG, and adding to a full list E_OUTOFMEMORY. LabelAt of an empty entry gives
// VT_EMPTY. Null out-pointers give
// E_POINTER. The list is the host's object: it lives in the process that made it, on its
// thread, and is not a class of the module.
#pragma once

#include <kelmira/kelmira.h>

// Makes an empty list; *list gets a reference of its own.
KELMIRA_EXTERN_C HRESULT KelmiraCreateTickLabelList(ITickLabelList** list);

namespace kelmira {

// An empty list, or empty when it cannot be made.
inline ComPtr<ITickLabelList> NewTickLabelList() {
  ComPtr<ITickLabelList> list;
  KelmiraCreateTickLabelList(&list);
  return list;
}

}  // namespace kelmira
