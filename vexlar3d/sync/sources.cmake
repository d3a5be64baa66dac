# Sources of vexlar3d/sync/: sync tracks, their file, and the sync editor client.
target_sources(vexlar3d PRIVATE
  sync/T_SyncClient.cpp
  sync/T_SyncSession.cpp
  sync/T_SyncTrack.cpp
  sync/T_SyncTrackFile.cpp
  sync/T_SyncTracks.cpp
)
