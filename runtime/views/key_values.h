// Key component values for positioning a key sequence: the lowest and
// highest value a field can hold, and bound values stored without wrapping
// (a bound of 5e12 in a LONG component must seek past every record, not to
// wherever the wrapped number lands). Used by View and KeyRange.
#pragma once

#include "runtime/expr/expression_value.h"
#include "runtime/values/field_ref.h"

namespace ledora::runtime {

void SetLowest(const FieldRef& field);
void SetHighest(const FieldRef& field);
// Stores the value, held to the field's range; a text goes in as text.
void SetClamped(const FieldRef& field, const ExpressionValue& value);

}  // namespace ledora::runtime
