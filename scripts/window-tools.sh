# Sourced by the scripts that drive the window under Xvfb: installs xdotool, ImageMagick's
# import and Xvfb when any is missing.
install_window_tools() {
  local missing=() p
  for p in xdotool imagemagick xvfb; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    apt-get update >/dev/null &&
      DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}" >/dev/null
  fi
}
