#include "TLAD.h"

TLAD::TLAD(const LearningParameters& parameters) : parameters(parameters) {}

void TLAD::Free() {
  data.clear();
  datagrid.clear();
}
