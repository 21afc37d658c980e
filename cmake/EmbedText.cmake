# Turns text files into one C++ source with a table of {name, text} entries.
# Run as: cmake -DOUT=file.cpp -DINPUTS="a.glsl;b.glsl" -P EmbedText.cmake
set(body "// Generated at build time from the effect sources; do not edit.\n#include \"render/effects/embedded_effects.h\"\n\n")
set(table "")
foreach(input IN LISTS INPUTS)
  get_filename_component(name "${input}" NAME_WE)
  file(READ "${input}" text)
  string(APPEND body "static const char k_${name}[] = R\"__EMBED__(${text})__EMBED__\";\n")
  string(APPEND table "    {\"${name}\", k_${name}},\n")
endforeach()
string(APPEND body "\nconst EmbeddedText g_embeddedEffects[] = {\n${table}    {nullptr, nullptr},\n};\n")
string(APPEND body "const int g_embeddedEffectCount = sizeof(g_embeddedEffects) / sizeof(g_embeddedEffects[0]) - 1;\n")
file(WRITE "${OUT}.tmp" "${body}")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
