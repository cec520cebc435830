#include "link/comms_error.h"

ECommsError::ECommsError(const QString& text)
    : std::runtime_error(text.toStdString()), text_(text) {}
