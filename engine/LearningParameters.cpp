#include "LearningParameters.h"

#include "LadError.h"
#include "NumberText.h"

Share::Share(double value) : value_(value) {
  if (!holds(value)) {
    throw LadError("A share must lie between 0 and 1 (it is " + exactNumberText(value, {}) + ")");
  }
}
