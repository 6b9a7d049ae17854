#include "testcard.h"

#include <alsa/asoundlib.h>
#include <alsa/control_external.h>

#include <cstring>
#include <deque>
#include <vector>

namespace {

constexpr const char* kName = "Master Playback Volume";

struct Open {
  snd_ctl_ext_t ext{};
  std::deque<unsigned int> events;  // masks waiting to be read
};

bool present = true;
long levels[2] = {0, 0};
std::vector<Open*> opens;

void Tell(unsigned int mask) {
  for (Open* open : opens) open->events.push_back(mask);
}

void SetId(snd_ctl_elem_id_t* id) {
  snd_ctl_elem_id_clear(id);
  snd_ctl_elem_id_set_interface(id, SND_CTL_ELEM_IFACE_MIXER);
  snd_ctl_elem_id_set_name(id, kName);
}

Open* Self(snd_ctl_ext_t* ext) { return static_cast<Open*>(ext->private_data); }

void Close(snd_ctl_ext_t* ext) {
  Open* open = Self(ext);
  std::erase(opens, open);
  delete open;
}

int Count(snd_ctl_ext_t*) { return present ? 1 : 0; }

int List(snd_ctl_ext_t*, unsigned int, snd_ctl_elem_id_t* id) {
  SetId(id);
  return 0;
}

snd_ctl_ext_key_t Find(snd_ctl_ext_t*, const snd_ctl_elem_id_t* id) {
  return present && std::strcmp(snd_ctl_elem_id_get_name(id), kName) == 0 ? 0 : SND_CTL_EXT_KEY_NOT_FOUND;
}

int Attribute(snd_ctl_ext_t*, snd_ctl_ext_key_t, int* type, unsigned int* access, unsigned int* count) {
  *type = SND_CTL_ELEM_TYPE_INTEGER;
  *access = SND_CTL_EXT_ACCESS_READWRITE;
  *count = 2;
  return 0;
}

int IntegerInfo(snd_ctl_ext_t*, snd_ctl_ext_key_t, long* minimum, long* maximum, long* step) {
  *minimum = 0, *maximum = 100, *step = 1;
  return 0;
}

int Read(snd_ctl_ext_t*, snd_ctl_ext_key_t, long* value) {
  if (!present) return -ENOENT;
  value[0] = levels[0], value[1] = levels[1];
  return 0;
}

int Write(snd_ctl_ext_t*, snd_ctl_ext_key_t, long* value) {
  if (!present) return -ENOENT;
  levels[0] = value[0], levels[1] = value[1];
  return 1;
}

void Subscribe(snd_ctl_ext_t*, int) {}

int ReadEvent(snd_ctl_ext_t* ext, snd_ctl_elem_id_t* id, unsigned int* mask) {
  Open* open = Self(ext);
  if (open->events.empty()) return -EAGAIN;
  SetId(id);
  *mask = open->events.front();
  open->events.pop_front();
  return 1;
}

const snd_ctl_ext_callback_t kCallbacks = {
    .close = Close,
    .elem_count = Count,
    .elem_list = List,
    .find_elem = Find,
    .get_attribute = Attribute,
    .get_integer_info = IntegerInfo,
    .read_integer = Read,
    .write_integer = Write,
    .subscribe_events = Subscribe,
    .read_event = ReadEvent,
};

}  // namespace

extern "C" {

void MarvaneTestCardUnplug() {
  present = false;
  Tell(SND_CTL_EVENT_MASK_REMOVE);
}

void MarvaneTestCardReplug() {
  present = true;
  Tell(SND_CTL_EVENT_MASK_ADD);
}

long MarvaneTestCardMaster() { return levels[0]; }

SND_CTL_PLUGIN_DEFINE_FUNC(marvanetest) {
  auto* open = new Open;
  snd_ctl_ext_t& ext = open->ext;
  ext.version = SND_CTL_EXT_VERSION;
  ext.card_idx = 0;
  std::strcpy(ext.id, "MarvaneTest");
  std::strcpy(ext.driver, "Marvane test card");
  std::strcpy(ext.name, "Marvane test card");
  std::strcpy(ext.longname, "Marvane test card");
  std::strcpy(ext.mixername, "Marvane test card");
  ext.poll_fd = -1;
  ext.callback = &kCallbacks;
  ext.private_data = open;
  const int err = snd_ctl_ext_create(&ext, name, mode);
  if (err < 0) {
    delete open;
    return err;
  }
  opens.push_back(open);
  *handlep = ext.handle;
  return 0;
}
SND_CTL_PLUGIN_SYMBOL(marvanetest);

}  // extern "C"
