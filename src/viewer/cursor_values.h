// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/engine_figure.h"

#include <array>
#include <cstddef>
#include <optional>

class ViewedRecording;

// Each figure's value in one row; empty where the field was empty, or for
// every figure when there is no row (the cursor in a gap, or beyond the file).
using FigureValuesAt = std::array<std::optional<double>, figureCount>;

FigureValuesAt figuresAt(const ViewedRecording &recording, std::optional<size_t> row);
// Second minus first, figure by figure, where both have a value.
FigureValuesAt differences(const FigureValuesAt &first, const FigureValuesAt &second);
