#pragma once
// CPelmoraApp: the application object. Reads the command line, has what
// the window runs on assembled (app/window_assembly.h: the serial port, the
// user's settings, the optional trace, the link), runs the main window
// modally and returns the process's exit code when it closes.
//
//   pelmora                   the tool as it is: the user's port map, no trace
//   pelmora --demo            a simulated tracker in this process behind a
//                             loopback port, on COM3; real devices are not
//                             numbered and the user's port map is neither
//                             used nor changed
//   pelmora --trace FILE      the diagnostic trace into FILE ("-": standard error)
//   pelmora --screenshots DIR the demo, read once, one PNG per tab into DIR
//   pelmora --station         the provisioning station's window instead of the main one

#include <QApplication>

namespace pelmora {

class CPelmoraApp {
 public:
  int run(QApplication& application);
};

}  // namespace pelmora
