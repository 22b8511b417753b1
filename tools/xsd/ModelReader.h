#pragma once

#include "Loader.h"
#include "Model.h"

namespace vexlo9::xsd {

// Parses every component of the documents into the model: booleans, occurrences, forms and qualified names are read
// here and nowhere else. Refuses (Diagnostics::Refuse) what is not a schema: a missing name, an undeclared prefix,
// a count or length that is not one, a derivation without a base.
void ReadModel(const SchemaSet& documents, SchemaModel& model);

}  // namespace vexlo9::xsd
