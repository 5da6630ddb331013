// Plain advice on a built model that cannot work, with the parameters to change.
#pragma once

#include <string>

class TLAD;

// One sentence per side whose pandect is empty, or a single pattern without any condition
// (it covers every observation, so it scores every row alike); empty when neither.
std::string modelAdvice(const TLAD& model);
