// A window's place as kept between runs, read value by value.
#pragma once
#include <exception>
#include <optional>

namespace sorel {

// Each edge that was kept; an edge that was not kept is left as the window has it. The values are
// read in the order the window applies them, and a value that cannot be read stops the read: the
// ones before it are here, the ones after it are not, and error holds what the read raised. The
// window applies what is here and then raises error, so that a bad value stops the restore exactly
// where it stands.
struct StoredPlacement {
  std::optional<int> left, top, width, height;
  std::exception_ptr error;
};

}  // namespace sorel
