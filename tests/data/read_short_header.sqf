// QFRT W  
