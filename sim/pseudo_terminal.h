#pragma once
// A pseudo-terminal pair made in this process: the simulated tracker holds
// the master, the tool opens the slave ("/dev/pts/N") as its serial port.
//
// The pair keeps a raw slave descriptor of its own, so that the master never
// sees a hang-up while the tool has the port closed, and so that the line is
// raw (no echo, no CR/LF translation) even before the tool first opens it.

#include <string>

namespace pelmora::sim {

class PseudoTerminal {
 public:
  PseudoTerminal() = default;
  ~PseudoTerminal() { close(); }
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  // Makes a new pair (closing the old one); false with `error` set on failure.
  bool create(std::string& error);
  // Closes both descriptors: whoever has the slave open sees a hang-up.
  void close();

  bool isOpen() const { return master_ >= 0; }
  int master() const { return master_; }  // non-blocking
  const std::string& slavePath() const { return slavePath_; }
  // Bytes that reached the slave and that nobody has read yet (0 when closed).
  int unreadBySlave() const;

 private:
  int master_ = -1;
  int slaveKeeper_ = -1;
  std::string slavePath_;
};

// Makes `linkPath` a symbolic link to `target`, replacing an earlier link in
// one step (a fresh link renamed over it). False when that is not possible.
bool pointSymlink(const std::string& linkPath, const std::string& target);

// Removes `linkPath` if it is a symbolic link.
void removeSymlink(const std::string& linkPath);

}  // namespace pelmora::sim
