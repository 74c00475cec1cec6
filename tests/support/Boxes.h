#pragma once
// Boxes in tests: the product waits for a person on every platform, so a
// test that meets a box must answer it. This answer closes every box as
// soon as it is up, as a user who dismisses it would; tests that check a
// box's answer install their own observer instead.

#include "skin/ModalBoxes.h"

#include <QWidget>

namespace kelpo::test {

inline void CloseEveryBox()
{
    ModalBoxes::instance().setObserver([](QWidget* box) { box->close(); });
}

} // namespace kelpo::test
