#pragma once

// Styled controls: labels with text effects, label-edits, repeating speed
// buttons, push buttons with kinds, panels with per-side bevels.

#include "controls/ButtonKinds.h"
#include "controls/ControlBasics.h"
#include "controls/LabelEffects.h"
#include "controls/Proconst.h"
#include "controls/TProButton.h"
#include "controls/TProLabel.h"
#include "controls/TProLabelEdit.h"
#include "controls/TProPanel.h"
#include "controls/TProSpeedButton.h"
