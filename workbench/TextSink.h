// Where a command writes long text: piece by piece, so that nothing big is held whole.
#pragma once

#include <functional>
#include <string_view>

using TextSink = std::function<void(std::string_view)>;
