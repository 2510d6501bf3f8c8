// The update key of one executable, from the build: compiled into each executable rather than
// into sorel_app, so that the test build of the program differs from the shipped one in this file
// only (app/CMakeLists.txt).
#include "app/maker_key.h"

#ifndef SOREL_UPDATE_KEY
#error "SOREL_UPDATE_KEY must hold the executable's update key (app/CMakeLists.txt)"
#endif

namespace sorel {

std::string MakerPublicKey() { return SOREL_UPDATE_KEY; }

}  // namespace sorel
