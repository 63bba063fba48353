# Sourced: whether this host executes 32-bit x86 code, in HOST_RUNS_32BIT (1 or 0) with a
# one-line reason in HOST_32BIT_REASON. HUSHLINE_HOST_RUNS_32BIT=0 or 1 overrides the probe.
# The probe is a 93-byte static i386 program that only exits: it needs no 32-bit libraries,
# and a kernel without 32-bit support refuses it with "Exec format error".
host_check_32bit() {
  case "${HUSHLINE_HOST_RUNS_32BIT:-}" in
    0) HOST_RUNS_32BIT=0 HOST_32BIT_REASON="HUSHLINE_HOST_RUNS_32BIT=0 forces the 64-bit-only path" ;;
    1) HOST_RUNS_32BIT=1 HOST_32BIT_REASON="HUSHLINE_HOST_RUNS_32BIT=1 says it does" ;;
    "")
      local probe error
      # Beside this script, not in /tmp, which some hosts mount noexec.
      probe=$(mktemp "$(dirname "${BASH_SOURCE[0]}")/.i386-probe.XXXXXX") || return 1
      printf '\x7fELF\x01\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x03\0\x01\0\0\0\x54\x80\x04\x08\x34\0\0\0'"$(
        )"'\0\0\0\0\0\0\0\0\x34\0\x20\0\x01\0\0\0\0\0\0\0\x01\0\0\0\0\0\0\0\0\x80\x04\x08'"$(
        )"'\0\x80\x04\x08\x5d\0\0\0\x5d\0\0\0\x05\0\0\0\0\x10\0\0\xb8\x01\0\0\0\x31\xdb\xcd\x80' >"$probe"
      chmod +x "$probe"
      local status=0
      error=$("$probe" 2>&1) || status=$?
      if [ "$status" = 0 ]; then
        HOST_RUNS_32BIT=1 HOST_32BIT_REASON="a 32-bit x86 program ran"
      else
        error=${error##*: }
        HOST_RUNS_32BIT=0 HOST_32BIT_REASON="a 32-bit x86 program fails here (${error:-exit status $status})"
      fi
      rm -f "$probe"
      ;;
    *) echo "HUSHLINE_HOST_RUNS_32BIT must be 0 or 1, not '$HUSHLINE_HOST_RUNS_32BIT'" >&2; return 1 ;;
  esac
}

# The build that runs on this host: i686 where it can, x86_64 otherwise.
host_run_arch() {
  [ "$HOST_RUNS_32BIT" = 1 ] && echo i686 || echo x86_64
}
