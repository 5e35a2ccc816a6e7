# Synthesises the website window's trumpet call, a short bugle fanfare on the
# notes of a C major chord:
#   cmake -DSOX=path/to/sox -DOUTPUT=trumpet1.wav -P make-trumpet.cmake
# A CMake script, so that it runs wherever the build runs: it needs sox only.
cmake_minimum_required(VERSION 3.25)
if(NOT DEFINED SOX OR NOT DEFINED OUTPUT)
  message(FATAL_ERROR "usage: cmake -DSOX=path/to/sox -DOUTPUT=trumpet1.wav -P make-trumpet.cmake")
endif()

# The pieces are made beside the output and replaced on every run.
set(work ${OUTPUT}.parts)
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work})

# -R keeps the output the same on every run.
function(sox)
  execute_process(COMMAND ${SOX} -R ${ARGN} COMMAND_ERROR_IS_FATAL ANY)
endfunction()

set(rate 44100)
# One note: a bright sawtooth with a touch of its octave, rounded off by a
# low-pass like the bell of a brass instrument, with a quick attack and a
# short release.
function(note file frequency seconds octave_above)
  sox(-n -r ${rate} -c 1 -b 16 ${work}/${file}.wav
      synth ${seconds} sawtooth ${frequency} synth ${seconds} sine mix ${octave_above}
      lowpass 2200 overdrive 4 fade q 0.025 ${seconds} 0.06 gain -n -3)
endfunction()
function(rest file seconds)
  sox(-n -r ${rate} -c 1 -b 16 ${work}/${file}.wav trim 0 ${seconds})
endfunction()

note(g4 392.00 0.13 784.00)
note(c5 523.25 0.13 1046.50)
note(e5 659.26 0.13 1318.51)
note(g5 783.99 0.30 1567.98)
note(e5b 659.26 0.13 1318.51)
note(g5long 783.99 0.75 1567.98)
rest(gap 0.04)

sox(${work}/g4.wav ${work}/gap.wav ${work}/c5.wav ${work}/gap.wav ${work}/e5.wav ${work}/gap.wav
    ${work}/g5.wav ${work}/gap.wav ${work}/e5b.wav ${work}/gap.wav ${work}/g5long.wav
    -b 16 ${work}/trumpet.wav tremolo 5.5 12 pad 0 0.35 reverb 30 50 60 gain -n -1)
# Only a finished sound takes the output's place, so that a failed run never
# leaves a broken file that looks up to date.
file(RENAME ${work}/trumpet.wav ${OUTPUT})
file(REMOVE_RECURSE ${work})
