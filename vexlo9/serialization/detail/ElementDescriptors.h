#pragma once

#include <type_traits>

#include "vexlo9/serialization/detail/ElementInfoClass.h"
#include "vexlo9/serialization/detail/ElementInfoCollection.h"
#include "vexlo9/serialization/detail/ElementInfoEnum.h"
#include "vexlo9/serialization/detail/ElementInfoPrimitive.h"
#include "vexlo9/serialization/detail/ElementInfoUntyped.h"

namespace vexlo9::detail {

// The descriptor class of one combination: repeated particles are collections, the others one family per kind.
template <Group G, ValueKind K, Cardinality C>
using DescriptorOf = std::conditional_t<
    C == Cardinality::Col, ElementInfoCollection<G, K>,
    std::conditional_t<
        K == ValueKind::Prim, ElementInfoPrimitive<G, C>,
        std::conditional_t<K == ValueKind::Enum, ElementInfoEnum<G, C>,
                           std::conditional_t<K == ValueKind::Untpd, ElementInfoUntyped<G, C>,
                                              ElementInfoClass<G, C, K == ValueKind::AbsCls>>>>>;

// ElementInfo + group + kind + cardinality, the names of the descriptor classes: one per row of the table.
#define VEXLO9_ELEMENT_DECLARATION(G, K, C) \
  using ElementInfo##G##K##C = DescriptorOf<Group::G, ValueKind::K, Cardinality::C>;
#include "vexlo9/serialization/detail/ElementDeclarations.def"
#undef VEXLO9_ELEMENT_DECLARATION

}  // namespace vexlo9::detail
