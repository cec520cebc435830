#pragma once

#include <QIcon>
#include <QString>

// The toolbar's pictures by image name ("help", "Setup_dis", "comSetup", ...).
// Names are matched without regard to case, so "setup_dis" and "Setup_dis"
// are one picture. An unknown name gives a null icon.
QIcon ToolbarImage(const QString& name);
