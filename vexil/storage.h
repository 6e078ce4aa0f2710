// The model of an opened storage: a text file scanned into encoded files and sections.
#pragma once

namespace vexil {

class Storage;

}  // namespace vexil
