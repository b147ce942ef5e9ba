#pragma once

#include "common/Messages.h"

namespace tabel {

// The real message boxes, modal over the active window.
class DialogMessages : public Messages
{
public:
    MessageAnswer show(const Message& message) override;
};

} // namespace tabel
