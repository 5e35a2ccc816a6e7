#include "vanishing.h"

void vantrel_vanishing() {}
