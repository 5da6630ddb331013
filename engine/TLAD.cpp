#include "TLAD.h"

TLAD::TLAD(std::int32_t indegree, double inPosHom, double inPosPrev, double inNegHom,
           double inNegPrev)
    : degree(indegree),
      poshom(inPosHom),
      posprev(inPosPrev),
      neghom(inNegHom),
      negprev(inNegPrev) {}

void TLAD::Free() {
  data.clear();
  datagrid.clear();
  outcomevector.clear();
}
