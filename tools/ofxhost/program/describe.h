#pragma once
// `ofxhost BUNDLE describe`: the effect as JSON.

#include <ostream>

#include "ofxhost/host.h"

namespace ofxhost::program {

void WriteDescription(const Description& description, std::ostream& out);

}  // namespace ofxhost::program
