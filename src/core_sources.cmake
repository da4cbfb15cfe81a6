# The files of voz_core, relative to src/: what needs no screen and no sound. Shared with the
# fuzz build, which compiles them with clang.
set(VOZ_CORE_FILES
  app/controls.cpp app/controls.h
  app/program_state.h
  app/readable_file.cpp app/readable_file.h
  app/settings_file.cpp app/settings_file.h
  app/truth.h
  app/twips.h
  alarms/alarm_file.cpp alarms/alarm_file.h
  alarms/alarm_list.cpp alarms/alarm_list.h
  alarms/alarm_tick.cpp alarms/alarm_tick.h
  alarms/time_text.cpp alarms/time_text.h
  clock/caption_clock.cpp clock/caption_clock.h
  outside/check_kit.cpp outside/check_kit.h
  platform/pictures_folder.cpp platform/pictures_folder.h
  wallpaper/wallpaper_list_file.cpp wallpaper/wallpaper_list_file.h)
