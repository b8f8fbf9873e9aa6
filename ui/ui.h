#pragma once
// Everything a form needs.

#include "ui/application.h"
#include "ui/backend.h"
#include "ui/controls.h"
#include "ui/dialogs.h"
#include "ui/form.h"
#include "ui/grid.h"
#include "ui/menu.h"
#include "ui/timer.h"
#include "ui/types.h"
