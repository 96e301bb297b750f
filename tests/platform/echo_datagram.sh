#!/bin/sh
# Runs the echo client test in a private network namespace whose
# ping_group_range admits every group, so the unprivileged ICMP datagram
# socket is the one taken. The host's setting stays as it is. Exit 77 = skipped.
test_program="$1"
inner='ip link set lo up 2>/dev/null
echo "0 2147483647" > /proc/sys/net/ipv4/ping_group_range 2>/dev/null || { echo "skipped: ping_group_range is not writable"; exit 77; }
SW_EXPECT_ICMP_SOCKET=datagram exec "$0"'
for how in "--net" "--net --map-root-user"; do
  if unshare $how true 2>/dev/null; then
    exec unshare $how sh -c "$inner" "$test_program"
  fi
done
echo "skipped: no network namespace can be made here"
exit 77
