#pragma once

#include "reference/OperationChoice.h"
#include "reference/ReferenceListWindow.h"

#include <functional>
#include <optional>

namespace tabel {

// How a window that enters records opens the workers and operations lists in selection mode:
// the shell hands in the lists it owns, tests hand in their own choices.
using WorkerPicker = std::function<std::optional<ListChoice>()>;
using OperationPicker = std::function<std::optional<OperationChoice>(int currentOperationId)>;

} // namespace tabel
