#include "tests/support/window_test.h"

#include <QCoreApplication>
#include <QEvent>

namespace orvane::testing {

void Settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

}  // namespace orvane::testing
