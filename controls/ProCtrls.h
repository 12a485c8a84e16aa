#pragma once

// Styled controls: labels with text effects, label-edits, repeating speed
// buttons, push buttons with kinds, panels with per-side bevels.

#include "ButtonKinds.h"
#include "ControlBasics.h"
#include "LabelEffects.h"
#include "Proconst.h"
#include "TProButton.h"
#include "TProLabel.h"
#include "TProLabelEdit.h"
#include "TProPanel.h"
#include "TProSpeedButton.h"
