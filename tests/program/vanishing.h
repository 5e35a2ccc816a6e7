#pragma once

// Lives in a library that the broken platform plugin links and can't find.
void vantrel_vanishing();
