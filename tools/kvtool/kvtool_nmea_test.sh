#!/usr/bin/env bash
# kvtool nmea: receiver output fed through the sentence scanner and interpreter in dialog and map
# mode: the first GPRMC and GPGGA discarded, fixes with their hemispheres, the status changes and
# their notifications, noise, checksum errors and an overlong sentence dropped whole.
# Usage: kvtool_nmea_test.sh [RUNNER] KVTOOL   (RUNNER runs a Windows build under Wine)
set -u
kvtool=("$@")
. "$(dirname "$0")/cli_test_lib.sh"

rmc='$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A'
printf '%s\r\n%s\r\n' "$rmc" "$rmc" >fix.nmea
expect '{"events":[{"status":0,"notify":null,"lat":0.0,"lon":0.0},{"status":2,"notify":1070,"lat":48.11729999999999,"lon":11.516666666666667}]}' \
  nmea fix.nmea
expect '{"events":[{"status":0,"notify":null,"lat":90.0,"lon":0.0},{"status":2,"notify":1070,"lat":48.11729999999999,"lon":11.516666666666667}]}' \
  nmea --mode map fix.nmea

# Status V, then another letter, then empty coordinates, a fix in the south and west by GPGGA
# (its first one discarded), a GPRMB losing the fix; noise and an unknown sentence between.
{
  printf '$GPRMC,1,V*00\r\n'
  printf '$GPRMC,1,V,,,,*00\r\n'
  printf 'noise\x00\xff,A*\r\n'
  printf '$GPRMC,1,X,4807.038,N,01131.000,E*00\r\n'
  printf '$GPRMC,1,A,,N,01131.000,E*00\r\n'
  printf '$GPGGA,1,3352.000,S,15112.600,W,1*00\r\n'
  printf '$GPGGA,1,3352.000,S,15112.600,W,1*00\r\n'
  printf '$GPGSV,3,1,11*FF\r\n'
  printf '$GPRMB,V*00\r\n'
} >mixed.nmea
expect '{"events":[{"status":0,"notify":null,"lat":0.0,"lon":0.0},{"status":1,"notify":1072,"lat":0.0,"lon":0.0},{"status":0,"notify":1071,"lat":0.0,"lon":0.0},{"status":1,"notify":1072,"lat":0.0,"lon":0.0},{"status":1,"notify":null,"lat":0.0,"lon":0.0},{"status":2,"notify":1070,"lat":-33.86666666666667,"lon":-151.21},{"status":2,"notify":null,"lat":-33.86666666666667,"lon":-151.21},{"status":1,"notify":1072,"lat":-33.86666666666667,"lon":-151.21}]}' \
  nmea --mode dialog mixed.nmea

# A sentence without CR for more than the buffer is dropped whole; the next one reads.
{ printf '$GPRMC,1,V*00\r'; printf '$GPRMC,1,V,'; head -c 500 /dev/zero | tr '\0' 9; printf '\r'; printf '$GPRMC,1,V*00\r'; } >long.nmea
expect '{"events":[{"status":0,"notify":null,"lat":0.0,"lon":0.0},{"status":1,"notify":1072,"lat":0.0,"lon":0.0}]}' nmea long.nmea
: >empty.nmea
expect '{"events":[]}' nmea empty.nmea

expect_exit 2 "dialog or map" nmea --mode car fix.nmea
expect_exit 1 "cannot read" nmea missing.nmea

finish kvtool_nmea
