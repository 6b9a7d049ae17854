#include "console/console.h"

#include "console/crossfaderreactions.h"
#include "console/imagebuttonrule.h"
#include "console/keyboard.h"
#include "console/linecontrols.h"
#include "console/linetransport.h"

namespace marvane {

Console::Console(MainForm& form, AudioEngine& engine, SettingsStore& settings, ConsoleState& state,
                 const ColorScheme& colors, Dialogs& dialogs, MasterStrip* master, QObject* parent)
    : QObject(parent),
      rule_(std::make_unique<ImageButtonRule>()),
      lines_(std::make_unique<LineControls>(form, engine, settings, state, colors, master)),
      transport_(std::make_unique<LineTransport>(form, engine, settings, state, colors, dialogs, *rule_)),
      crossfader_(std::make_unique<CrossfaderReactions>(form, engine, state, *lines_)),
      keyboard_(std::make_unique<ConsoleKeyboard>(form, engine, *rule_, *lines_, *transport_)) {}

Console::~Console() = default;

}  // namespace marvane
