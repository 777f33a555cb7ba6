// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <utility>

namespace veldo {

// A dialog that tests can answer: while a handler is installed, it stands in for the dialog.
template <typename Signature>
class DialogSeam {
public:
    using Handler = std::function<Signature>;

    // An empty handler restores the real dialog.
    static void setHandler(Handler handler) { installed() = std::move(handler); }

protected:
    static Handler &installed()
    {
        static Handler handler;
        return handler;
    }
};

} // namespace veldo
