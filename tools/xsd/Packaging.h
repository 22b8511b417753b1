#pragma once

#include "Binding.h"
#include "Model.h"

namespace vexlo9::xsd {

// Places the classes of a binding into the outputs of the command-line schemas: which class and enumeration go to
// which file, the namespace constants, what each factory and converter answers, and the headers each file needs.
// Refuses outputs that would need each other's headers.
void Package(Binding& binding, const SchemaModel& model);

}  // namespace vexlo9::xsd
