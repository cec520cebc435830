#pragma once

// For start-up measurements: when the environment variable QUVIAL_FIRST_PAINT
// is set, prints "first-paint" on standard output once the first top-level
// window has been painted, so that a launcher can time it. Does nothing otherwise.
void InstallFirstPaintProbe();
