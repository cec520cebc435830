#pragma once

#include <QtGlobal>

// Line speeds through the kernel's termios2 interface, which takes any rate in
// bits per second. Kept apart because its header cannot share a file with
// <termios.h>.

// Sets input and output speed to baud (any value); false when the device or
// driver refuses it.
bool SetCustomLineSpeed(int fd, quint32 baud);

// The device's current output speed in bits per second; 0 when it cannot be read.
quint32 LineSpeed(int fd);
