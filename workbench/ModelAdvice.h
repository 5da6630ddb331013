// Plain advice on a built model that cannot work, with the parameters to change.
#pragma once

#include <string>

#include "LearningParameters.h"
#include "Model.h"
#include "TrainingTable.h"

// One sentence per side whose pattern set is empty, or a single pattern without any condition
// (it covers every observation, so it scores every row alike); empty when neither.
std::string modelAdvice(const Model& model, const TrainingTable& table,
                        const LearningParameters& parameters);
